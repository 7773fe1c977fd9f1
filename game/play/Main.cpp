// The game's entry point. The application object takes over here as the game is built up.
int main() { return 0; }
