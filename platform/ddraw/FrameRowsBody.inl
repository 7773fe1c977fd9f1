// One width of the frame rows' vector steps, included once per width inside its own namespace. The
// includer defines FRAME_V (the register), FRAME_ATTR (the target), FRAME_STEP (pixels a step),
// FRAME_OP(name) (the width's form of an intrinsic), FRAME_AND, FRAME_OR, FRAME_LOAD(at) (a step's
// pixels, in the order the in-lane unpacks put back in a row) and FRAME_STORE(at, v); they end here.

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

#undef FRAME_V
#undef FRAME_ATTR
#undef FRAME_STEP
#undef FRAME_OP
#undef FRAME_AND
#undef FRAME_OR
#undef FRAME_LOAD
#undef FRAME_STORE
