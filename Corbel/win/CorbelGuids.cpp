// The one definition of every GUID that Corbel.h (generated from Corbel.idl) declares, for the
// DLL, the Excel stand-in and the tests alike.
#include <initguid.h>

#include "Corbel.h"
