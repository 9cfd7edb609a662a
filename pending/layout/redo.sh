#!/usr/bin/env bash
# Redoes the engine's folder moves on the current tree (git mv and include
# paths); the patch beside it then supplies the new files and the hand edits.
set -eu
cd "$(dirname "$0")/../.."
git mv swf/runtime swf/classes
for f in Bitmap.h Color.h Effects.h Font.cpp Font.h FormatCodes.h FrameBuffer.h Geometry.cpp Geometry.h \
         MorphShape.cpp MorphShape.h Movie.h Quality.h Shape.h; do git mv swf/$f swf/model/$f; done
git mv swf/RenderBackend.h swf/render/RenderBackend.h
git mv swf/DeviceFont.h swf/host/DeviceFont.h
git mv swf/play/ScriptHost.h swf/bind/ScriptHost.h
git mv swf/play/ScriptHost.cpp swf/bind/ScriptHost.cpp
git mv swf/play/ScriptTreeEdits.cpp swf/bind/ScriptHostTreeEdits.cpp
for f in Buttons ClipEvents ClipLoads Loads TextPointer; do git mv swf/play/$f.cpp swf/play/Timeline$f.cpp; done
git mv swf/play/FocusInput.cpp swf/play/TimelineFocus.cpp
files=$(git ls-files | grep -v '^pending/' | grep -E '\.(h|cpp|c|cc|txt|cmake|md|py|sh)$')
sed -i -E \
 -e 's#swf/runtime/#swf/classes/#g' \
 -e 's#"swf/(Bitmap|Color|Effects|Font|FormatCodes|FrameBuffer|Geometry|MorphShape|Movie|Quality|Shape)\.(h|cpp)"#"swf/model/\1.\2"#g' \
 -e 's#"swf/RenderBackend\.h"#"swf/render/RenderBackend.h"#g' \
 -e 's#"swf/DeviceFont\.h"#"swf/host/DeviceFont.h"#g' \
 -e 's#swf/play/ScriptHost\.(h|cpp)#swf/bind/ScriptHost.\1#g' \
 -e 's#swf/play/ScriptTreeEdits\.cpp#swf/bind/ScriptHostTreeEdits.cpp#g' \
 $files
python3 tests/layering/check-includes.py . || true
