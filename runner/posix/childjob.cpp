#include "runner/childjob.h"

void ChildJob::define(VALUE) {}
