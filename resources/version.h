// Tilo's version, named once: the resource script's version block and application
// manifest, and the setup program, whose script (installer/tilo.nsi) reads the three
// lines below as text: keep them plain decimal numbers.
#ifndef TILO_RESOURCES_VERSION_H
#define TILO_RESOURCES_VERSION_H

#define TILO_VERSION_MAJOR 1
#define TILO_VERSION_MINOR 0
#define TILO_VERSION_PATCH 0

#define TILO_VERSION_STR2(x) #x
#define TILO_VERSION_STR(x) TILO_VERSION_STR2(x)
// "1.0.0"
#define TILO_VERSION_TEXT                                                                                    \
    TILO_VERSION_STR(TILO_VERSION_MAJOR)                                                                     \
    "." TILO_VERSION_STR(TILO_VERSION_MINOR) "." TILO_VERSION_STR(TILO_VERSION_PATCH)

#endif
