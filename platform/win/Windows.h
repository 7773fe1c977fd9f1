// The Windows services of the stand-in layer, in one include.
#pragma once

#include "platform/win/CRand.h"
#include "platform/win/CodePage.h"
#include "platform/win/Cursor.h"
#include "platform/win/DebugOutput.h"
#include "platform/win/Errors.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Messages.h"
#include "platform/win/Modules.h"
#include "platform/win/PathMap.h"
#include "platform/win/Process.h"
#include "platform/win/Sync.h"
#include "platform/win/Time.h"
#include "platform/win/Types.h"
#include "platform/win/Unknown.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"
