// The framework in one include.
#pragma once

#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/Dispatch.h"
#include "framework/Errors.h"
#include "framework/File.h"
#include "framework/FileDialog.h"
#include "framework/FileFind.h"
#include "framework/MessageBox.h"
#include "framework/Static.h"
#include "framework/String.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
