// Stands in for a Ruby runtime of another version: the plug-in reads ruby_version first.
extern "C" __declspec(dllexport) const char ruby_version[] = "3.0.6";
