// ObjectTemplate.h: the game's animated object record: a positioned, optionally rotated cel strip with
// an alpha and a frame animation, a name and two free strings. The same record is a prototype read from
// "data\template.dat", an object placed by a level file and a running animation instance handed out by
// the object library, which owns every record; everyone else holds plain pointers. Also the reading of
// one file record. Main thread only.
#pragma once

#include <istream>
#include <string>

namespace Kit {
class Graphics;
class Image;
}  // namespace Kit

// How an animation behaves when its value leaves its range (alpha 0..alphaMax, frame 0..frameCount-1).
enum AnimMode : int {
  kAnimOnce = 0,    // frame: stop one past the end (or at -1); alpha: stop and hide the record
  kAnimBounce = 1,  // turn round at the ends
  kAnimWrap = 2,    // start again at the other end
};

class ObjectTemplate {
 public:
  // The longest string field a file record may hold, in bytes.
  static constexpr int kMaxStringBytes = 254;

  virtual ~ObjectTemplate() = default;

  // Reads one file record into this record, field by field. False when the stream ends early or a
  // string length lies outside 0..kMaxStringBytes; the record may then be partly overwritten and is to
  // be dropped. Nothing is read past the record and nothing is allocated by a length the file claims.
  bool Read(std::istream& in);
  // Copies every field of the other record; null changes nothing.
  void CopyFrom(const ObjectTemplate* other);
  // One tick of the alpha and then the frame animation; nothing unless running.
  void Update();
  // The current cel, rotated by mAngle, at (x, y) truncated to whole pixels (Draw) or at the float
  // position (DrawF); a position within 0.001 of (0, 0) draws at the record's own position. Nothing
  // unless running, visible and with an image.
  void Draw(Kit::Graphics* g, float x, float y) const;
  void DrawF(Kit::Graphics* g, float x, float y) const;

  int mAlphaTimer = 1;  // ticks left until the next alpha step
  int mFrameTimer = 1;  // ticks left until the next frame step
  float mX = 0.0f;      // top-left of the drawn cel, play-field pixels
  float mY = 0.0f;
  std::string mName;  // the key by which records are found
  bool mVisible = true;
  bool mRunning = true;          // false: idle, the library may hand the record out again
  Kit::Image* mImage = nullptr;  // the cel grid; a loaded resource, not owned
  std::string mImageName;        // the IMAGE_ identifier of the image
  float mWidth = 0.0f;           // collision box of the actors drawn with it, pixels
  float mHeight = 0.0f;
  int mFrameCount = 1;
  int mFrame = 1;  // current cel
  int mFrameStep = 0;
  int mFrameDelay = 1;  // ticks between frame steps
  int mFrameMode = kAnimOnce;
  int mAlphaMax = 255;
  int mAlpha = 255;  // opacity, 0..255
  int mAlphaStep = 0;
  int mAlphaDelay = 1;  // ticks between alpha steps
  int mAlphaMode = kAnimOnce;
  int mDrawMode = 0;    // 1 draws additively
  double mAngle = 0.0;  // radians; set by the record's users, not stored in files
  std::string mNote;    // stored and copied, not interpreted
  std::string mCode;    // copied to the brick actor made from a level record

 private:
  void StepAlpha();
  // A fade of mode kAnimOnce has left its range: the record stops, hidden, and becomes idle.
  void EndFade(int finalAlpha);
  void StepFrame();
  template <typename Position>
  void DrawAt(Kit::Graphics* g, float x, float y, Position toPosition) const;
};
