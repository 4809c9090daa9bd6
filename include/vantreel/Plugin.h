/* The interface between the library and the components it loads by ProgID
 * (add-on settings editors, the context server): plain C, so a plug-in may
 * be built with any compiler and any C++ standard library.
 *
 * Registration (the registry's HKEY_CLASSES_ROOT, as on Windows):
 *   HKEY_CLASSES_ROOT\<ProgID>\Clsid                   (default) = "{class id}"
 *   HKEY_CLASSES_ROOT\CLSID\{class id}\InprocServer32  (default) = "/path/libaddon.so"
 *
 * The shared object exports one function, VantreelGetClass, that hands out the
 * class for a class ID. The library calls methods by name ("late binding"),
 * with arguments in the order the caller documents. A loaded shared object
 * stays loaded until the process ends.
 */
#ifndef VANTREEL_PLUGIN_H
#define VANTREEL_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface version a plug-in is built for; the library refuses others. */
#define VANTREEL_PLUGIN_ABI 1

/* The name of the entry point. */
#define VANTREEL_PLUGIN_ENTRY "VantreelGetClass"

enum VantreelValueType {
    VANTREEL_VALUE_EMPTY = 0,
    VANTREEL_VALUE_STRING = 1,  /* text: UTF-8, NUL-terminated, owned by the caller */
    VANTREEL_VALUE_LONG = 2,    /* number: a 32-bit integer */
    VANTREEL_VALUE_BOOLEAN = 3, /* number: 0 for False, anything else True */
};

/* One argument or result. Every argument is passed by reference: a method may
 * change the number of a Long or Boolean argument and the caller sees it; text
 * is read only. */
typedef struct VantreelValue {
    int32_t type;
    const char* text;
    int32_t number;
} VantreelValue;

typedef struct VantreelClass {
    uint32_t abiVersion; /* VANTREEL_PLUGIN_ABI */
    /* A new object of the class; NULL when it cannot be made. */
    void* (*create)(void);
    /* Releases an object made by create. */
    void (*destroy)(void* object);
    /* Calls the method named method (letter case ignored, as in Basic) with
     * argc arguments. On success returns 0 and sets *result (an EMPTY value
     * when the method returns nothing; result is never NULL). On failure
     * returns an error number (438 for a method the object does not have) and
     * writes a NUL-terminated description of at most errorSize bytes. */
    int32_t (*invoke)(void* object, const char* method, int32_t argc, VantreelValue* argv,
                      VantreelValue* result, char* error, size_t errorSize);
} VantreelClass;

/* The entry point: the class with this class ID ("{...}" as registered), or
 * NULL when the shared object has none. The class must live as long as the
 * shared object. */
typedef const VantreelClass* (*VantreelGetClassFunction)(const char* classId);

#ifdef __cplusplus
}
#endif

#endif /* VANTREEL_PLUGIN_H */
