// flash.system.LoaderContext and JPEGLoaderContext: what a load is asked to
// do, kept as plain fields a script reads back. Loads here share one
// domain, so a Loader only reads what it can honour of them.
#include "swf/avm2/classes/Loading.h"

namespace swf::avm2 {

namespace {

void SetField(Machine& m, const Value& self, const char* name, const Value& v) { m.SetPublic(self, name, v); }

// checkPolicyFile, applicationDomain, securityDomain, from argument `first` on.
void SetContext(Machine& m, const Value& self, Args args, int argc, int first) {
    SetField(m, self, "checkPolicyFile", Value::Bool(m.ToBoolean(Arg(args, argc, first))));
    Value domain = Arg(args, argc, first + 1), security = Arg(args, argc, first + 2);
    SetField(m, self, "applicationDomain", domain.IsUndefined() ? Value::Null() : domain);
    SetField(m, self, "securityDomain", security.IsUndefined() ? Value::Null() : security);
    SetField(m, self, "allowCodeImport", Value::Bool(true));
    SetField(m, self, "allowLoadBytesCodeExecution", Value::Bool(true));
    SetField(m, self, "parameters", Value::Null());
    SetField(m, self, "requestedContentParent", Value::Null());
    SetField(m, self, "imageDecodingPolicy", Value::Str(m.Intern("onDemand")));
}

Value ContextInit(Machine& m, Value self, Args args, int argc) {
    SetContext(m, self, args, argc, 0);
    return Value::Undefined();
}

Value JpegContextInit(Machine& m, Value self, Args args, int argc) {
    SetContext(m, self, args, argc, 1);
    Value filter = Arg(args, argc, 0);
    SetField(m, self, "deblockingFilter", Value::Number(filter.IsUndefined() ? 0 : m.ToNumber(filter)));
    return Value::Undefined();
}

}  // namespace

void InstallLoaderContexts(Machine& m) {
    ClassObject* context = m.DefineClass("flash.system", "LoaderContext", m.objectClass, nullptr);
    context->init = m.NewNativeMethod("LoaderContext", ContextInit, 0);
    ClassObject* jpeg = m.DefineClass("flash.system", "JPEGLoaderContext", context, nullptr);
    jpeg->init = m.NewNativeMethod("JPEGLoaderContext", JpegContextInit, 0);
}

}  // namespace swf::avm2
