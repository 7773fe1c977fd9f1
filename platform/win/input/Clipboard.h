// The clipboard's text, in code-page (CF_TEXT) and wide (CF_UNICODETEXT) forms. It is SDL's
// clipboard on a desktop with a display and the layer's own in-process clipboard when headless.
#pragma once

#include "platform/win/Types.h"
#include "platform/win/process/Memory.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_UNICODETEXT = 13;

// One opener at a time across the process; FALSE while another has it open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard takes over the block. Text formats only; other formats are refused (null).
HANDLE SetClipboardData(UINT format, HANDLE data);
// A block the clipboard owns (valid until the clipboard changes): the text in the asked form,
// converted when it was set in the other one.
HANDLE GetClipboardData(UINT format);
