// Leaks the leak checker should not report in the test programs: the font
// configuration library keeps its caches for the whole process and frees them
// only after the check has run.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
