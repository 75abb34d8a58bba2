// A DLL without the component entry point.
extern "C" __declspec(dllexport) int not_a_component_answer() { return 42; }
