#pragma once
// The heap on transparent huge pages. Where the system gives them only on
// request, glibc asks for them when its tunable says so, and it reads its
// tunables only as a process starts: the program then starts itself again,
// once, with the tunable set. A large dictionary then loads into a few
// hundred fresh pages instead of tens of thousands, each costing a fault.
// After the restart, blocks up to 32 MiB come from the heap as well, and
// small blocks freed are merged at once rather than kept in fast bins.

// Call first in main(). Returns at once when there is nothing to do, after
// the restart, or when the restart failed (the program then goes on as it is).
// The environment children inherit is left as it was.
void RestartWithHugeHeapPages(char** argv);
