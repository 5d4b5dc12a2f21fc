#include "runtimestack.h"

void RuntimeStack::call(const std::function<void()> &body)
{
    body();
}
