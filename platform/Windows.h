// The whole Windows API of the stand-in layer in one include: the services of platform/win with the
// rooms that stand above the DirectX modules, the standard controls, dialogs and message boxes
// (platform/ui) and the shell (platform/shell).
#pragma once

#include "platform/shell/Shell.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/Windows.h"
