// Test double of a tool the batch copies but never starts for effect (rsx.exe, mplayerc.exe):
// it only has to exist and run.
int main() { return 0; }
