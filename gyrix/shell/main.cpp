// The game program: its one application object and the entry point.
#include <gyrix/shell/puzzleapp.h>

static CPuzzleApp theApp;

int main() { return AfxWinMain(); }
