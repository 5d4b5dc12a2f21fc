#include "runner/runtimefaulthandlers.h"

// On Windows the runtime turns a machine-stack overflow into SystemStackError with a vectored
// exception handler of its own, which stays in force for the whole process: nothing to swap.

void RuntimeFaultHandlers::remember() {}

RuntimeFaultHandlers::RuntimeFaultHandlers() = default;

RuntimeFaultHandlers::~RuntimeFaultHandlers() = default;
