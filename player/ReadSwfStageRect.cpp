#include "player/ReadSwfStageRect.h"

#include <climits>

#include "framework/File.h"
#include "framework/MessageBox.h"
#include "swf/read/StageHeader.h"

namespace {

class FileSource : public swf::ByteSource {
public:
    explicit FileSource(CFile& file) : m_file(file) {}
    size_t Read(uint8_t* buffer, size_t count) override {
        UINT chunk = count > UINT_MAX ? UINT_MAX : static_cast<UINT>(count);
        return m_file.Read(buffer, chunk);
    }

private:
    CFile& m_file;
};

}  // namespace

RECT ReadSwfStageRect(CString path) {
    RECT zero = {};
    if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        AfxMessageBox(CString("Can not find SWF:") + path, MB_OK);
        return zero;
    }
    // Read-only and exclusive: a file another program holds open throws here.
    CFile file(path, CFile::modeRead);
    if (file.GetLength() == 0) return zero;
    FileSource source(file);
    swf::StageRect stage = swf::ReadStageRect(source);
    return RECT{stage.left, stage.top, stage.right, stage.bottom};
}
