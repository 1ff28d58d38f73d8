# The fuzz targets, each <name>_fuzz.cpp with its seeds in corpus/<name>/, and what each links.
# fuzz/CMakeLists.txt builds them for libFuzzer; replay.cmake runs their seeds as tests.
set(VOXTRANE_FUZZ_TARGETS articulation_file editor http_request map_reabank map_xml prompt_text smf_reader state_stream)
set(VOXTRANE_FUZZ_LIBS_articulation_file voxtrane_core voxtrane_hostkit)
set(VOXTRANE_FUZZ_LIBS_editor voxtrane_core voxtrane_hostkit)  # the plugin on the recording host and fakes
set(VOXTRANE_FUZZ_LIBS_http_request voxtrane_core voxtrane_hostkit)  # on the tests' in-memory sockets
set(VOXTRANE_FUZZ_LIBS_map_reabank voxtrane_core)
set(VOXTRANE_FUZZ_LIBS_map_xml voxtrane_core)
set(VOXTRANE_FUZZ_LIBS_prompt_text voxtrane_core voxtrane_hostkit)
set(VOXTRANE_FUZZ_LIBS_smf_reader voxtrane_smf)
set(VOXTRANE_FUZZ_LIBS_state_stream voxtrane_core)
