#pragma once
// The program runs elevated, often from a Downloads folder: a DLL it loads by
// name would be looked for beside the program first, so a file planted there
// would run as administrator. It imports only Windows' KnownDLLs (which load
// from the system folder alone); what loads later is kept to the system too.

namespace ferro::win32 {

// Makes the DLL search of this process (and of what it loads later) skip the
// program's folder and the current folder, where the system offers that.
void restrictDllSearchToSystem();

}  // namespace ferro::win32
