// A library under the importer's name that lacks GetArticulations: the plugin must treat it as
// no importer at all.
#ifdef _WIN32
extern "C" __declspec(dllexport) int GetArticulationNames() { return 0; }
#else
extern "C" __attribute__((visibility("default"))) int GetArticulationNames() { return 0; }
#endif
