// libFuzzer over the ActionScript 3 XML parser and printer: any bytes as
// markup for XML, XMLList and XMLDocument, under every parser setting, then
// printed and walked. Errors are script errors; nothing may crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "swf/avm2/Machine.h"

namespace avm2 = swf::avm2;

namespace {

avm2::Value Call(avm2::Machine& m, const avm2::Value& self, const char* name, const avm2::Value* args = nullptr,
                 int argc = 0) {
    return m.CallProperty(self, m.PublicName(name), args, argc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    avm2::Machine m;
    m.limits.maxSteps = 200000;
    m.report = [](const std::string&) {};
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int flags = 0; flags < 2; ++flags) {
        m.Entry([&] {
            avm2::Value settings = Call(m, avm2::Value::Obj(m.xmlClass), "settings");
            for (const char* name : {"ignoreComments", "ignoreWhitespace", "ignoreProcessingInstructions"})
                m.SetPublic(settings, name, avm2::Value::Bool(flags == 0));
            Call(m, avm2::Value::Obj(m.xmlClass), "setSettings", &settings, 1);
        });
        avm2::Value source = avm2::Value::Str(m.Str(text));
        m.Entry([&] {
            avm2::Value x = m.Construct(avm2::Value::Obj(m.xmlClass), &source, 1);
            avm2::TempRoot keep(m, x);
            Call(m, x, "toXMLString");
            Call(m, x, "toString");
            avm2::Value copy = Call(m, x, "copy");
            avm2::Value same = avm2::Value::Bool(m.LooseEquals(x, copy));
            (void)same;
            Call(m, Call(m, x, "descendants"), "toXMLString");
            Call(m, x, "normalize");
            Call(m, x, "inScopeNamespaces");
        });
        m.Entry([&] {
            avm2::Value l = m.Construct(avm2::Value::Obj(m.xmlListClass), &source, 1);
            avm2::TempRoot keep(m, l);
            Call(m, l, "toXMLString");
            Call(m, Call(m, l, "children"), "toString");
        });
        m.Entry([&] {
            avm2::ClassObject* doc = m.FindClass("flash.xml.XMLDocument");
            if (!doc) return;
            avm2::Value d = m.Construct(avm2::Value::Obj(doc), &source, 1);
            avm2::TempRoot keep(m, d);
            Call(m, d, "toString");
        });
    }
    return 0;
}
