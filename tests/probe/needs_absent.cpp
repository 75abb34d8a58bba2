// A component-looking DLL that imports a library the loader cannot find.
extern "C" __declspec(dllimport) int not_a_component_answer();
extern "C" __declspec(dllexport) void* vellora_get_interface(void*, void*) {
    return reinterpret_cast<void*>(static_cast<long long>(not_a_component_answer()));
}
