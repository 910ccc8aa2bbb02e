/* Machine-dependent JNI types for Windows (32 and 64 bits): JNICALL is
 * __stdcall, which only the 32-bit calling convention distinguishes. */
#ifndef VARKEL_JNI_MD_H
#define VARKEL_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
