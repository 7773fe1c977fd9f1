int a = M(3000000000.0);
int b = M1(-9999999999.5f) + M2(99999999999);
unsigned c = M(0xFFFFFFFF);
