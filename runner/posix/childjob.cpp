#include "childjob.h"

void ChildJob::define(VALUE) {}
