#include "swf/read/TagReaders.h"
namespace swf {
void ReadDefineMorphShape(ByteReader&, uint16_t, ReadContext&) {}
}
