// flash.geom values (Point, Rectangle, Matrix, ColorTransform, Vector3D):
// numbers held natively, so display classes can read and make them
// without going through property lookups.
#pragma once

#include <initializer_list>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

enum class GeomKind : uint8_t { Point, Rectangle, Matrix, ColorTransform, Vector3D };

class GeomObject : public Object {
public:
    GeomObject(ClassObject* cls, Object* proto, GeomKind k) : Object(ObjKind::Plain, cls, proto), what(k) {}
    GeomKind what;
    double f[8] = {};
};

// A new instance of the geom class of `kind` with the given fields.
GeomObject* NewGeom(Machine& m, GeomKind kind, std::initializer_list<double> fields);
// `v` as a geom value of `kind`: #1009 for null, #1034 for another type.
GeomObject* NeedGeom(Machine& m, const Value& v, GeomKind kind);
// `v` as a geom value of `kind`, or null.
GeomObject* AsGeom(const Value& v, GeomKind kind);

extern const char* const kGeomNames[];
ClassObject* DefineGeomClass(Machine& m, GeomKind kind, NativeFn init, int length);
// Number accessors over f[0..], in order.
void DefineGeomFields(Machine& m, ClassObject* c, std::initializer_list<const char*> names);
void InstallGeom(Machine& m);
void InstallGeomMatrix(Machine& m);
void InstallMatrix3D(Machine& m);

}  // namespace swf::avm2
