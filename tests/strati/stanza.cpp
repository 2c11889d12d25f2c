// A source placed in one room of the tool, built against that room's view
// with the one include INCLUSO: it builds when INCLUSO lies below the room
// and must not when it lies above or beside it.
#include INCLUSO

int prova_stanza() { return 0; }
