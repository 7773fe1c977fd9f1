// Result codes of the DirectDraw, Direct3D and DirectSound families, with the values the
// DirectX 7 headers give them. Every module of the layer and every caller shares these
// definitions; no other header defines them.
//
// DirectDraw and Direct3D errors lie in facility 0x876, DirectSound errors in facility 0x878.
// A few names are aliases of the generic COM codes and carry those values.
#pragma once

#include "platform/win/Types.h"

#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, 0x876, code)
#define MAKE_DSHRESULT(code) MAKE_HRESULT(1, 0x878, code)

// Every code once: CODE(name, value) for a code under its own name, ALIAS(name, value) for a second
// name of a value another entry names (the generic COM codes the families reuse, the success codes).
// The constants below and the framework's name table (DirectXErrorString) are both made from it.
#define KIT_DIRECTX_RESULTS(CODE, ALIAS)                                          \
  /* COM codes the DirectX families reuse and the generic layer does not name. */ \
  ALIAS(CLASS_E_NOAGGREGATION, static_cast<HRESULT>(0x80040110u))                 \
  ALIAS(CO_E_NOTINITIALIZED, static_cast<HRESULT>(0x800401F0u))                   \
  /* DirectDraw */                                                                \
  ALIAS(DD_OK, S_OK)                                                              \
  ALIAS(DD_FALSE, S_FALSE)                                                        \
  CODE(DDERR_ALREADYINITIALIZED, MAKE_DDHRESULT(5))                               \
  CODE(DDERR_CANNOTATTACHSURFACE, MAKE_DDHRESULT(10))                             \
  CODE(DDERR_CANNOTDETACHSURFACE, MAKE_DDHRESULT(20))                             \
  CODE(DDERR_CURRENTLYNOTAVAIL, MAKE_DDHRESULT(40))                               \
  CODE(DDERR_EXCEPTION, MAKE_DDHRESULT(55))                                       \
  ALIAS(DDERR_GENERIC, E_FAIL)                                                    \
  CODE(DDERR_HEIGHTALIGN, MAKE_DDHRESULT(90))                                     \
  CODE(DDERR_INCOMPATIBLEPRIMARY, MAKE_DDHRESULT(95))                             \
  CODE(DDERR_INVALIDCAPS, MAKE_DDHRESULT(100))                                    \
  CODE(DDERR_INVALIDCLIPLIST, MAKE_DDHRESULT(110))                                \
  CODE(DDERR_INVALIDMODE, MAKE_DDHRESULT(120))                                    \
  CODE(DDERR_INVALIDOBJECT, MAKE_DDHRESULT(130))                                  \
  CODE(DDERR_INVALIDPARAMS, E_INVALIDARG)                                         \
  CODE(DDERR_INVALIDPIXELFORMAT, MAKE_DDHRESULT(145))                             \
  CODE(DDERR_INVALIDRECT, MAKE_DDHRESULT(150))                                    \
  CODE(DDERR_LOCKEDSURFACES, MAKE_DDHRESULT(160))                                 \
  CODE(DDERR_NO3D, MAKE_DDHRESULT(170))                                           \
  CODE(DDERR_NOALPHAHW, MAKE_DDHRESULT(180))                                      \
  CODE(DDERR_NOSTEREOHARDWARE, MAKE_DDHRESULT(181))                               \
  CODE(DDERR_NOSURFACELEFT, MAKE_DDHRESULT(182))                                  \
  CODE(DDERR_NOCLIPLIST, MAKE_DDHRESULT(205))                                     \
  CODE(DDERR_NOCOLORCONVHW, MAKE_DDHRESULT(210))                                  \
  CODE(DDERR_NOCOOPERATIVELEVELSET, MAKE_DDHRESULT(212))                          \
  CODE(DDERR_NOCOLORKEY, MAKE_DDHRESULT(215))                                     \
  CODE(DDERR_NOCOLORKEYHW, MAKE_DDHRESULT(220))                                   \
  CODE(DDERR_NODIRECTDRAWSUPPORT, MAKE_DDHRESULT(222))                            \
  CODE(DDERR_NOEXCLUSIVEMODE, MAKE_DDHRESULT(225))                                \
  CODE(DDERR_NOFLIPHW, MAKE_DDHRESULT(230))                                       \
  CODE(DDERR_NOGDI, MAKE_DDHRESULT(240))                                          \
  CODE(DDERR_NOMIRRORHW, MAKE_DDHRESULT(250))                                     \
  CODE(DDERR_NOTFOUND, MAKE_DDHRESULT(255))                                       \
  CODE(DDERR_NOOVERLAYHW, MAKE_DDHRESULT(260))                                    \
  CODE(DDERR_OVERLAPPINGRECTS, MAKE_DDHRESULT(270))                               \
  CODE(DDERR_NORASTEROPHW, MAKE_DDHRESULT(280))                                   \
  CODE(DDERR_NOROTATIONHW, MAKE_DDHRESULT(290))                                   \
  CODE(DDERR_NOSTRETCHHW, MAKE_DDHRESULT(310))                                    \
  CODE(DDERR_NOT4BITCOLOR, MAKE_DDHRESULT(316))                                   \
  CODE(DDERR_NOT4BITCOLORINDEX, MAKE_DDHRESULT(317))                              \
  CODE(DDERR_NOT8BITCOLOR, MAKE_DDHRESULT(320))                                   \
  CODE(DDERR_NOTEXTUREHW, MAKE_DDHRESULT(330))                                    \
  CODE(DDERR_NOVSYNCHW, MAKE_DDHRESULT(335))                                      \
  CODE(DDERR_NOZBUFFERHW, MAKE_DDHRESULT(340))                                    \
  CODE(DDERR_NOZOVERLAYHW, MAKE_DDHRESULT(350))                                   \
  CODE(DDERR_OUTOFCAPS, MAKE_DDHRESULT(360))                                      \
  ALIAS(DDERR_OUTOFMEMORY, E_OUTOFMEMORY)                                         \
  CODE(DDERR_OUTOFVIDEOMEMORY, MAKE_DDHRESULT(380))                               \
  CODE(DDERR_OVERLAYCANTCLIP, MAKE_DDHRESULT(382))                                \
  CODE(DDERR_OVERLAYCOLORKEYONLYONEACTIVE, MAKE_DDHRESULT(384))                   \
  CODE(DDERR_PALETTEBUSY, MAKE_DDHRESULT(387))                                    \
  CODE(DDERR_COLORKEYNOTSET, MAKE_DDHRESULT(400))                                 \
  CODE(DDERR_SURFACEALREADYATTACHED, MAKE_DDHRESULT(410))                         \
  CODE(DDERR_SURFACEALREADYDEPENDENT, MAKE_DDHRESULT(420))                        \
  CODE(DDERR_SURFACEBUSY, MAKE_DDHRESULT(430))                                    \
  CODE(DDERR_CANTLOCKSURFACE, MAKE_DDHRESULT(435))                                \
  CODE(DDERR_SURFACEISOBSCURED, MAKE_DDHRESULT(440))                              \
  CODE(DDERR_SURFACELOST, MAKE_DDHRESULT(450))                                    \
  CODE(DDERR_SURFACENOTATTACHED, MAKE_DDHRESULT(460))                             \
  CODE(DDERR_TOOBIGHEIGHT, MAKE_DDHRESULT(470))                                   \
  CODE(DDERR_TOOBIGSIZE, MAKE_DDHRESULT(480))                                     \
  CODE(DDERR_TOOBIGWIDTH, MAKE_DDHRESULT(490))                                    \
  CODE(DDERR_UNSUPPORTED, E_NOTIMPL)                                              \
  CODE(DDERR_UNSUPPORTEDFORMAT, MAKE_DDHRESULT(510))                              \
  CODE(DDERR_UNSUPPORTEDMASK, MAKE_DDHRESULT(520))                                \
  CODE(DDERR_INVALIDSTREAM, MAKE_DDHRESULT(521))                                  \
  CODE(DDERR_VERTICALBLANKINPROGRESS, MAKE_DDHRESULT(537))                        \
  CODE(DDERR_WASSTILLDRAWING, MAKE_DDHRESULT(540))                                \
  CODE(DDERR_XALIGN, MAKE_DDHRESULT(560))                                         \
  CODE(DDERR_INVALIDDIRECTDRAWGUID, MAKE_DDHRESULT(561))                          \
  CODE(DDERR_DIRECTDRAWALREADYCREATED, MAKE_DDHRESULT(562))                       \
  CODE(DDERR_NODIRECTDRAWHW, MAKE_DDHRESULT(563))                                 \
  CODE(DDERR_PRIMARYSURFACEALREADYEXISTS, MAKE_DDHRESULT(564))                    \
  CODE(DDERR_NOEMULATION, MAKE_DDHRESULT(565))                                    \
  CODE(DDERR_REGIONTOOSMALL, MAKE_DDHRESULT(566))                                 \
  CODE(DDERR_CLIPPERISUSINGHWND, MAKE_DDHRESULT(567))                             \
  CODE(DDERR_NOCLIPPERATTACHED, MAKE_DDHRESULT(568))                              \
  CODE(DDERR_NOHWND, MAKE_DDHRESULT(569))                                         \
  CODE(DDERR_HWNDSUBCLASSED, MAKE_DDHRESULT(570))                                 \
  CODE(DDERR_HWNDALREADYSET, MAKE_DDHRESULT(571))                                 \
  CODE(DDERR_NOPALETTEATTACHED, MAKE_DDHRESULT(572))                              \
  CODE(DDERR_NOPALETTEHW, MAKE_DDHRESULT(573))                                    \
  CODE(DDERR_BLTFASTCANTCLIP, MAKE_DDHRESULT(574))                                \
  CODE(DDERR_NOBLTHW, MAKE_DDHRESULT(575))                                        \
  CODE(DDERR_NODDROPSHW, MAKE_DDHRESULT(576))                                     \
  CODE(DDERR_OVERLAYNOTVISIBLE, MAKE_DDHRESULT(577))                              \
  CODE(DDERR_INVALIDPOSITION, MAKE_DDHRESULT(579))                                \
  CODE(DDERR_NOTAOVERLAYSURFACE, MAKE_DDHRESULT(580))                             \
  CODE(DDERR_EXCLUSIVEMODEALREADYSET, MAKE_DDHRESULT(581))                        \
  CODE(DDERR_NOTFLIPPABLE, MAKE_DDHRESULT(582))                                   \
  CODE(DDERR_CANTDUPLICATE, MAKE_DDHRESULT(583))                                  \
  CODE(DDERR_NOTLOCKED, MAKE_DDHRESULT(584))                                      \
  CODE(DDERR_CANTCREATEDC, MAKE_DDHRESULT(585))                                   \
  CODE(DDERR_NODC, MAKE_DDHRESULT(586))                                           \
  CODE(DDERR_WRONGMODE, MAKE_DDHRESULT(587))                                      \
  CODE(DDERR_IMPLICITLYCREATED, MAKE_DDHRESULT(588))                              \
  CODE(DDERR_NOTPALETTIZED, MAKE_DDHRESULT(589))                                  \
  CODE(DDERR_UNSUPPORTEDMODE, MAKE_DDHRESULT(590))                                \
  CODE(DDERR_NOMIPMAPHW, MAKE_DDHRESULT(591))                                     \
  CODE(DDERR_INVALIDSURFACETYPE, MAKE_DDHRESULT(592))                             \
  CODE(DDERR_NOOPTIMIZEHW, MAKE_DDHRESULT(600))                                   \
  CODE(DDERR_NOTLOADED, MAKE_DDHRESULT(601))                                      \
  CODE(DDERR_NOFOCUSWINDOW, MAKE_DDHRESULT(602))                                  \
  CODE(DDERR_DCALREADYCREATED, MAKE_DDHRESULT(620))                               \
  CODE(DDERR_NONONLOCALVIDMEM, MAKE_DDHRESULT(630))                               \
  CODE(DDERR_CANTPAGELOCK, MAKE_DDHRESULT(640))                                   \
  CODE(DDERR_CANTPAGEUNLOCK, MAKE_DDHRESULT(660))                                 \
  CODE(DDERR_NOTPAGELOCKED, MAKE_DDHRESULT(680))                                  \
  CODE(DDERR_MOREDATA, MAKE_DDHRESULT(690))                                       \
  CODE(DDERR_EXPIRED, MAKE_DDHRESULT(691))                                        \
  CODE(DDERR_VIDEONOTACTIVE, MAKE_DDHRESULT(695))                                 \
  CODE(DDERR_DEVICEDOESNTOWNSURFACE, MAKE_DDHRESULT(699))                         \
  CODE(DDERR_NOTINITIALIZED, CO_E_NOTINITIALIZED)                                 \
  /* Direct3D */                                                                  \
  ALIAS(D3D_OK, DD_OK)                                                            \
  CODE(D3DERR_BADMAJORVERSION, MAKE_DDHRESULT(700))                               \
  CODE(D3DERR_BADMINORVERSION, MAKE_DDHRESULT(701))                               \
  CODE(D3DERR_INVALID_DEVICE, MAKE_DDHRESULT(705))                                \
  CODE(D3DERR_INITFAILED, MAKE_DDHRESULT(706))                                    \
  CODE(D3DERR_DEVICEAGGREGATED, MAKE_DDHRESULT(707))                              \
  CODE(D3DERR_TEXTURE_NO_SUPPORT, MAKE_DDHRESULT(720))                            \
  CODE(D3DERR_TEXTURE_CREATE_FAILED, MAKE_DDHRESULT(721))                         \
  CODE(D3DERR_TEXTURE_DESTROY_FAILED, MAKE_DDHRESULT(722))                        \
  CODE(D3DERR_TEXTURE_LOCK_FAILED, MAKE_DDHRESULT(723))                           \
  CODE(D3DERR_TEXTURE_UNLOCK_FAILED, MAKE_DDHRESULT(724))                         \
  CODE(D3DERR_TEXTURE_LOAD_FAILED, MAKE_DDHRESULT(725))                           \
  CODE(D3DERR_TEXTURE_SWAP_FAILED, MAKE_DDHRESULT(726))                           \
  CODE(D3DERR_TEXTURE_LOCKED, MAKE_DDHRESULT(727))                                \
  CODE(D3DERR_TEXTURE_NOT_LOCKED, MAKE_DDHRESULT(728))                            \
  CODE(D3DERR_TEXTURE_GETSURF_FAILED, MAKE_DDHRESULT(729))                        \
  CODE(D3DERR_MATRIX_CREATE_FAILED, MAKE_DDHRESULT(730))                          \
  CODE(D3DERR_MATRIX_DESTROY_FAILED, MAKE_DDHRESULT(731))                         \
  CODE(D3DERR_MATRIX_SETDATA_FAILED, MAKE_DDHRESULT(732))                         \
  CODE(D3DERR_MATRIX_GETDATA_FAILED, MAKE_DDHRESULT(733))                         \
  CODE(D3DERR_SETVIEWPORTDATA_FAILED, MAKE_DDHRESULT(734))                        \
  CODE(D3DERR_INVALIDCURRENTVIEWPORT, MAKE_DDHRESULT(735))                        \
  CODE(D3DERR_INVALIDPRIMITIVETYPE, MAKE_DDHRESULT(736))                          \
  CODE(D3DERR_INVALIDVERTEXTYPE, MAKE_DDHRESULT(737))                             \
  CODE(D3DERR_TEXTURE_BADSIZE, MAKE_DDHRESULT(738))                               \
  CODE(D3DERR_INVALIDRAMPTEXTURE, MAKE_DDHRESULT(739))                            \
  CODE(D3DERR_MATERIAL_CREATE_FAILED, MAKE_DDHRESULT(740))                        \
  CODE(D3DERR_MATERIAL_DESTROY_FAILED, MAKE_DDHRESULT(741))                       \
  CODE(D3DERR_MATERIAL_SETDATA_FAILED, MAKE_DDHRESULT(742))                       \
  CODE(D3DERR_MATERIAL_GETDATA_FAILED, MAKE_DDHRESULT(743))                       \
  CODE(D3DERR_INVALIDPALETTE, MAKE_DDHRESULT(744))                                \
  CODE(D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY, MAKE_DDHRESULT(745))                      \
  CODE(D3DERR_ZBUFF_NEEDS_VIDEOMEMORY, MAKE_DDHRESULT(746))                       \
  CODE(D3DERR_SURFACENOTINVIDMEM, MAKE_DDHRESULT(747))                            \
  CODE(D3DERR_LIGHT_SET_FAILED, MAKE_DDHRESULT(750))                              \
  CODE(D3DERR_LIGHTHASVIEWPORT, MAKE_DDHRESULT(751))                              \
  CODE(D3DERR_LIGHTNOTINTHISVIEWPORT, MAKE_DDHRESULT(752))                        \
  CODE(D3DERR_SCENE_IN_SCENE, MAKE_DDHRESULT(760))                                \
  CODE(D3DERR_SCENE_NOT_IN_SCENE, MAKE_DDHRESULT(761))                            \
  CODE(D3DERR_SCENE_BEGIN_FAILED, MAKE_DDHRESULT(762))                            \
  CODE(D3DERR_SCENE_END_FAILED, MAKE_DDHRESULT(763))                              \
  CODE(D3DERR_INBEGIN, MAKE_DDHRESULT(770))                                       \
  CODE(D3DERR_NOTINBEGIN, MAKE_DDHRESULT(771))                                    \
  CODE(D3DERR_NOVIEWPORTS, MAKE_DDHRESULT(772))                                   \
  CODE(D3DERR_VIEWPORTDATANOTSET, MAKE_DDHRESULT(773))                            \
  CODE(D3DERR_VIEWPORTHASNODEVICE, MAKE_DDHRESULT(774))                           \
  CODE(D3DERR_NOCURRENTVIEWPORT, MAKE_DDHRESULT(775))                             \
  CODE(D3DERR_INVALIDVERTEXFORMAT, MAKE_DDHRESULT(2048))                          \
  CODE(D3DERR_COLORKEYATTACHED, MAKE_DDHRESULT(2050))                             \
  CODE(D3DERR_VERTEXBUFFEROPTIMIZED, MAKE_DDHRESULT(2060))                        \
  CODE(D3DERR_VBUF_CREATE_FAILED, MAKE_DDHRESULT(2061))                           \
  CODE(D3DERR_VERTEXBUFFERLOCKED, MAKE_DDHRESULT(2062))                           \
  CODE(D3DERR_VERTEXBUFFERUNLOCKFAILED, MAKE_DDHRESULT(2063))                     \
  CODE(D3DERR_ZBUFFER_NOTPRESENT, MAKE_DDHRESULT(2070))                           \
  CODE(D3DERR_STENCILBUFFER_NOTPRESENT, MAKE_DDHRESULT(2071))                     \
  CODE(D3DERR_WRONGTEXTUREFORMAT, MAKE_DDHRESULT(2072))                           \
  CODE(D3DERR_UNSUPPORTEDCOLOROPERATION, MAKE_DDHRESULT(2073))                    \
  CODE(D3DERR_UNSUPPORTEDCOLORARG, MAKE_DDHRESULT(2074))                          \
  CODE(D3DERR_UNSUPPORTEDALPHAOPERATION, MAKE_DDHRESULT(2075))                    \
  CODE(D3DERR_UNSUPPORTEDALPHAARG, MAKE_DDHRESULT(2076))                          \
  CODE(D3DERR_TOOMANYOPERATIONS, MAKE_DDHRESULT(2077))                            \
  CODE(D3DERR_CONFLICTINGTEXTUREFILTER, MAKE_DDHRESULT(2078))                     \
  CODE(D3DERR_UNSUPPORTEDFACTORVALUE, MAKE_DDHRESULT(2079))                       \
  CODE(D3DERR_CONFLICTINGRENDERSTATE, MAKE_DDHRESULT(2081))                       \
  CODE(D3DERR_UNSUPPORTEDTEXTUREFILTER, MAKE_DDHRESULT(2082))                     \
  CODE(D3DERR_TOOMANYPRIMITIVES, MAKE_DDHRESULT(2083))                            \
  CODE(D3DERR_INVALIDMATRIX, MAKE_DDHRESULT(2084))                                \
  CODE(D3DERR_CONFLICTINGTEXTUREPALETTE, MAKE_DDHRESULT(2086))                    \
  CODE(D3DERR_INVALIDSTATEBLOCK, MAKE_DDHRESULT(2100))                            \
  CODE(D3DERR_INBEGINSTATEBLOCK, MAKE_DDHRESULT(2101))                            \
  CODE(D3DERR_NOTINBEGINSTATEBLOCK, MAKE_DDHRESULT(2102))                         \
  /* DirectSound */                                                               \
  ALIAS(DS_OK, S_OK)                                                              \
  CODE(DSERR_ALLOCATED, MAKE_DSHRESULT(10))                                       \
  CODE(DSERR_CONTROLUNAVAIL, MAKE_DSHRESULT(30))                                  \
  ALIAS(DSERR_INVALIDPARAM, E_INVALIDARG)                                         \
  CODE(DSERR_INVALIDCALL, MAKE_DSHRESULT(50))                                     \
  CODE(DSERR_GENERIC, E_FAIL)                                                     \
  CODE(DSERR_PRIOLEVELNEEDED, MAKE_DSHRESULT(70))                                 \
  ALIAS(DSERR_OUTOFMEMORY, E_OUTOFMEMORY)                                         \
  CODE(DSERR_BADFORMAT, MAKE_DSHRESULT(100))                                      \
  ALIAS(DSERR_UNSUPPORTED, E_NOTIMPL)                                             \
  CODE(DSERR_NODRIVER, MAKE_DSHRESULT(120))                                       \
  CODE(DSERR_ALREADYINITIALIZED, MAKE_DSHRESULT(130))                             \
  CODE(DSERR_NOAGGREGATION, CLASS_E_NOAGGREGATION)                                \
  CODE(DSERR_BUFFERLOST, MAKE_DSHRESULT(150))                                     \
  CODE(DSERR_OTHERAPPHASPRIO, MAKE_DSHRESULT(160))                                \
  CODE(DSERR_UNINITIALIZED, MAKE_DSHRESULT(170))                                  \
  CODE(DSERR_NOINTERFACE, E_NOINTERFACE)

#define KIT_DEFINE_DIRECTX_RESULT(name, value) constexpr HRESULT name = value;
KIT_DIRECTX_RESULTS(KIT_DEFINE_DIRECTX_RESULT, KIT_DEFINE_DIRECTX_RESULT)
#undef KIT_DEFINE_DIRECTX_RESULT
