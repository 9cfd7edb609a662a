// flash.geom objects for the classes' natives, over the readers of
// GeomArgs.h (any object with the right properties will do). Makers build
// instances of the classes as scripts see them now
// (flash.geom.X.prototype), without running any script constructor.
#pragma once

#include "swf/avm1/Vm.h"
#include "swf/bind/GeomArgs.h"
#include "swf/classes/Geom.h"

namespace swf::bind {

enum class GeomClass { Point, Rectangle, Matrix, ColorTransform };

// Arguments and `this` read the same way; anything else gives NaN fields.
GeomPoint PointArg(avm1::CallArgs& a, size_t i);
GeomRect RectArg(avm1::CallArgs& a, size_t i);
GeomPoint SelfPoint(avm1::CallArgs& a);
GeomRect SelfRect(avm1::CallArgs& a);
GeomMatrix SelfMatrix(avm1::CallArgs& a);

avm1::Value NewPoint(avm1::Vm& vm, GeomPoint p);
avm1::Value NewMatrix(avm1::Vm& vm, const GeomMatrix& m);
avm1::Value NewColorTransform(avm1::Vm& vm, const GeomColorTransform& t);

// Writes the fields of a value into an existing object (the methods that
// change `this`).
void StorePoint(avm1::Vm& vm, avm1::Object* on, GeomPoint p);
void StoreRect(avm1::Vm& vm, avm1::Object* on, const GeomRect& r);
void StoreMatrix(avm1::Vm& vm, avm1::Object* on, const GeomMatrix& m);
void StoreColorTransform(avm1::Vm& vm, avm1::Object* on, const GeomColorTransform& t);

// A class constructor's fields: `defaults` when it was given no arguments
// (Point, Rectangle, Matrix) or for each one left out (ColorTransform),
// else the arguments as they are.
void InitFields(avm1::CallArgs& a, GeomClass cls, const double* defaults);

// _global.flash.geom and its classes (one installer per class file).
void InstallGeom(avm1::Vm& vm);
void InstallPoint(avm1::Vm& vm, avm1::Object* package);           // PointClass.cpp
void InstallRectangle(avm1::Vm& vm, avm1::Object* package);       // RectangleClass.cpp
void InstallMatrix(avm1::Vm& vm, avm1::Object* package);          // MatrixClass.cpp
void InstallColorTransform(avm1::Vm& vm, avm1::Object* package);  // ColorTransformClass.cpp
void InstallTransform(avm1::Vm& vm, avm1::Object* package);       // TransformClass.cpp

// toString of each class: "(x=1, y=2)", each field as scripts print it.
avm1::Value Describe(avm1::Vm& vm, const avm1::Value& self, GeomClass cls);

}  // namespace swf::bind
