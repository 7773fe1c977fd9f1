// One width of the frame rows' vector steps, included once per width inside its own namespace. The
// includer defines FRAME_V (the register), FRAME_ATTR (the target), FRAME_STEP (pixels a step),
// FRAME_OP(name) (the width's form of an intrinsic), FRAME_AND, FRAME_OR, FRAME_LOADU(at), FRAME_LOAD(at)
// (a step's pixels, in the order the in-lane unpacks put back in a row) and FRAME_STORE(at, v); they
// end here.

// A 5-bit channel at bits 11-15 (the rest clear), widened.
FRAME_ATTR inline FRAME_V Top5(FRAME_V v) {
  return FRAME_OP(srli_epi16)(FRAME_OP(mulhi_epu16)(v, FRAME_OP(set1_epi16)(1053)), 2);
}

// Widens whole steps of 16-bit pixels of the layout; returns how many pixels it took.
template <typename Layout>
FRAME_ATTR int Widen16(const BYTE* from, std::uint32_t* to, int count) {
  const FRAME_V top5 = FRAME_OP(set1_epi16)(static_cast<short>(0xF800));
  const FRAME_V green = FRAME_OP(set1_epi16)(Layout::kGreenMask);
  const FRAME_V alpha = FRAME_OP(set1_epi16)(static_cast<short>(0xFF00));
  int x = 0;
  for (; x + FRAME_STEP <= count; x += FRAME_STEP) {
    const FRAME_V p = FRAME_LOAD(from + 2 * x);
    const FRAME_V g = FRAME_OP(mulhi_epu16)(FRAME_AND(p, green), FRAME_OP(set1_epi16)(Layout::kGreenFactor));
    const FRAME_V gb = FRAME_OR(Top5(FRAME_OP(slli_epi16)(p, 11)), FRAME_OP(slli_epi16)(g, 8));
    const FRAME_V ar = FRAME_OR(Top5(FRAME_AND(FRAME_OP(slli_epi16)(p, Layout::kRedShift), top5)), alpha);
    FRAME_STORE(to + x, FRAME_OP(unpacklo_epi16)(gb, ar));
    FRAME_STORE(to + x + FRAME_STEP / 2, FRAME_OP(unpackhi_epi16)(gb, ar));
  }
  return x;
}

// Whole steps of 32-bit pixels made opaque; returns how many pixels it took. Four registers a turn:
// on an AMD Zen 3 the loop of one ran up to 15 % slower or faster in the 32-bit present as where it
// fell against the 32-byte blocks the core fetches moved with unrelated code.
FRAME_ATTR inline int Opaque32(const BYTE* from, std::uint32_t* to, int count) {
  constexpr int kRegister = FRAME_STEP / 2;
  const FRAME_V alpha = FRAME_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; x + 4 * kRegister <= count; x += 4 * kRegister) {
    const FRAME_V a = FRAME_LOADU(from + 4 * x), b = FRAME_LOADU(from + 4 * (x + kRegister)),
                  c = FRAME_LOADU(from + 4 * (x + 2 * kRegister)), d = FRAME_LOADU(from + 4 * (x + 3 * kRegister));
    FRAME_STORE(to + x, FRAME_OR(a, alpha));
    FRAME_STORE(to + x + kRegister, FRAME_OR(b, alpha));
    FRAME_STORE(to + x + 2 * kRegister, FRAME_OR(c, alpha));
    FRAME_STORE(to + x + 3 * kRegister, FRAME_OR(d, alpha));
  }
  for (; x + kRegister <= count; x += kRegister) FRAME_STORE(to + x, FRAME_OR(FRAME_LOADU(from + 4 * x), alpha));
  return x;
}

// Whole steps of 32-bit pixels copied and, from the same registers, made opaque; returns how many
// pixels it took.
FRAME_ATTR inline int CopyOpaque32(const BYTE* from, BYTE* copy, std::uint32_t* opaque, int count) {
  constexpr int kRegister = FRAME_STEP / 2;
  const FRAME_V alpha = FRAME_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; x + 4 * kRegister <= count; x += 4 * kRegister) {
    const FRAME_V a = FRAME_LOADU(from + 4 * x), b = FRAME_LOADU(from + 4 * (x + kRegister)),
                  c = FRAME_LOADU(from + 4 * (x + 2 * kRegister)), d = FRAME_LOADU(from + 4 * (x + 3 * kRegister));
    FRAME_STORE(copy + 4 * x, a);
    FRAME_STORE(copy + 4 * (x + kRegister), b);
    FRAME_STORE(copy + 4 * (x + 2 * kRegister), c);
    FRAME_STORE(copy + 4 * (x + 3 * kRegister), d);
    FRAME_STORE(opaque + x, FRAME_OR(a, alpha));
    FRAME_STORE(opaque + x + kRegister, FRAME_OR(b, alpha));
    FRAME_STORE(opaque + x + 2 * kRegister, FRAME_OR(c, alpha));
    FRAME_STORE(opaque + x + 3 * kRegister, FRAME_OR(d, alpha));
  }
  for (; x + kRegister <= count; x += kRegister) {
    const FRAME_V a = FRAME_LOADU(from + 4 * x);
    FRAME_STORE(copy + 4 * x, a);
    FRAME_STORE(opaque + x, FRAME_OR(a, alpha));
  }
  return x;
}

#undef FRAME_V
#undef FRAME_ATTR
#undef FRAME_STEP
#undef FRAME_OP
#undef FRAME_AND
#undef FRAME_OR
#undef FRAME_LOADU
#undef FRAME_LOAD
#undef FRAME_STORE
