#include "runtimefaulthandlers.h"

// On Windows the runtime turns a machine-stack overflow into SystemStackError with a vectored
// exception handler of its own, which stays in force for the whole process: nothing to swap.
// (Wine cannot dispatch that overflow at all; the runtime's large stack of its own,
// RuntimeStack, has its VM-stack limit come first there.)

void RuntimeFaultHandlers::remember() {}

RuntimeFaultHandlers::RuntimeFaultHandlers() = default;

RuntimeFaultHandlers::~RuntimeFaultHandlers() = default;
