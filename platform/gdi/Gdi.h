// The GDI text calls of the stand-in layer: fonts, device contexts and text output, served on
// FreeType with the system's TrueType fonts. Text draws into the device contexts that DirectDraw
// surfaces hand out (their pixels, in 16- or 32-bit formats); a window's device context only measures.
#pragma once

#include "platform/win/Types.h"

#define LF_FACESIZE 32

struct LOGFONTA {
  LONG lfHeight;  // < 0: character height in pixels; > 0: cell height; 0: a default size
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
};
using LPLOGFONTA = LOGFONTA*;

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using LPTEXTMETRICA = TEXTMETRICA*;

struct DRAWTEXTPARAMS {
  UINT cbSize;
  int iTabLength;
  int iLeftMargin;
  int iRightMargin;
  UINT uiLengthDrawn;
};
using LPDRAWTEXTPARAMS = DRAWTEXTPARAMS*;

// Weights.
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700

// Character sets, precisions, qualities, pitches and families.
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// Region kinds returned by clipping calls.
#define RGN_ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2

// GetDeviceCaps indices.
#define BITSPIXEL 12
#define LOGPIXELSX 88
#define LOGPIXELSY 90

// DrawText formats.
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800

#define CLR_INVALID 0xFFFFFFFF

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName);
HFONT CreateFontIndirectA(const LOGFONTA* logFont);
// For a font: copies up to size bytes of its LOGFONTA into buffer and returns how many; with a null
// buffer, the size of a LOGFONTA. 0 for anything else.
int GetObjectA(HANDLE object, int size, LPVOID buffer);
// Selects a font into a device context and returns the one it had; null when either is not valid.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
inline HGDIOBJ SelectObject(HDC dc, HFONT font) { return SelectObject(dc, reinterpret_cast<HGDIOBJ>(font)); }
// A font that is still selected somewhere stays usable there until it is deselected.
BOOL DeleteObject(HGDIOBJ object);
inline BOOL DeleteObject(HFONT font) { return DeleteObject(reinterpret_cast<HGDIOBJ>(font)); }

// The device context of a window (or of the screen for a null window): it measures text; drawing
// onto windows goes through DirectDraw, so text output on it fails.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int GetDeviceCaps(HDC dc, int index);

int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF color);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);

// Text with the top of its cell at y.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
// Only measures, with DT_CALCRECT | DT_NOPREFIX (other formats fail): the rectangle is sized to the
// text, whose lines break at newlines. Returns the height of the text, 0 on failure. length -1: up to
// the terminating zero.
int DrawTextExA(HDC dc, LPSTR text, int length, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);

// number x numerator / denominator, rounded; -1 when the denominator is 0 or the result overflows.
int MulDiv(int number, int numerator, int denominator);

namespace plat {

// Drops what the GDI layer keeps for a device context that ends (a surface's ReleaseDC): the next
// context with the same handle starts afresh.
void ForgetDeviceContext(HDC dc);

}  // namespace plat
