// The graphics library's device code reads the driver's ShowCommand, which the app
// library defines; this test links no app. A weak stand-in satisfies the reference and
// gives way to the real definition wherever that is linked.
__attribute__((weak)) int ShowCommand = 1;
