int a = M(0x1F);
double b = M(2.5f);
x = M2(7) + M1(-8);
y = M(3) + M(4);
