// A shared library without the plug-in entry points, for the host's rejection test.
extern "C" __attribute__((visibility("default"))) int NotAPlugin(void)
{
    return 42;
}
