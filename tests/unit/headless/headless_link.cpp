// Links, and does nothing: the point is that every object of the logic
// libraries resolves without a window, GL or SDL.
int main() { return 0; }
