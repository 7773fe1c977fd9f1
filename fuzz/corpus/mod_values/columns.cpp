M(1)

int c = XM(5);
z = M9(0.125);
