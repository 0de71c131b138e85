/* The suite's product, maker and version, named once: the programs include
   this header, the resource scripts of every shipped file include it for
   their version resource, and the build reads the numbers for the manifest.
   Plain macros, so that the resource compiler reads it as C does. */
#ifndef PTR_SUITE_VERSION_H
#define PTR_SUITE_VERSION_H

#define PTR_PRODUCT_NAME "PTRHK32A Mouse"
#define PTR_PUBLISHER "PTRHK32A Project"

/* Major, minor and patch; the version resources add a fourth part, 0. The
   text is the same three numbers. */
#define PTR_VERSION_MAJOR 3
#define PTR_VERSION_MINOR 0
#define PTR_VERSION_PATCH 0
#define PTR_VERSION_TEXT "3.0.0"

#endif
