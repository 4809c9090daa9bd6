// A plug-in for the tests of loading components by ProgID: a context server,
// recorders that log their EditPIF calls next to the information file, a
// class that makes no object and one built for another interface version.

#include "vantreel/Plugin.h"

#include <strings.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Object {
    int tag = 0;
    std::string lastText;
};

void SetError(char* error, size_t size, const char* text) {
    if (size > 0) {
        std::snprintf(error, size, "%s", text);
    }
}

int32_t Invoke(void* self, const char* method, int32_t argc, VantreelValue* argv,
               VantreelValue* result, char* error, size_t errorSize) {
    Object& object = *static_cast<Object*>(self);
    *result = VantreelValue{VANTREEL_VALUE_EMPTY, nullptr, 0};
    if (strcasecmp(method, "GetContext") == 0) {
        if (argc != 1 || argv[0].type != VANTREEL_VALUE_STRING) {
            SetError(error, errorSize, "GetContext takes one text");
            return 5;
        }
        result->type = VANTREEL_VALUE_BOOLEAN;
        result->number = std::strcmp(argv[0].text, "Sobrel\\Offline") == 0 ? -1 : 0;
        return 0;
    }
    if (strcasecmp(method, "EditPIF") == 0) {
        if (argc != 3 || argv[0].type != VANTREEL_VALUE_STRING ||
            argv[1].type != VANTREEL_VALUE_STRING || argv[2].type != VANTREEL_VALUE_LONG) {
            SetError(error, errorSize, "EditPIF takes a path, an information file and a language");
            return 5;
        }
        const std::string log = std::string(argv[1].text) + ".calls";
        FILE* file = std::fopen(log.c_str(), "a");
        if (file == nullptr) {
            SetError(error, errorSize, "the call log cannot be written");
            return 75;
        }
        std::fprintf(file, "Recorder%d|%s|%s|%d\n", object.tag, argv[0].text, argv[1].text,
                     argv[2].number);
        std::fclose(file);
        return 0;
    }
    if (strcasecmp(method, "Twice") == 0 && argc == 1 && argv[0].type == VANTREEL_VALUE_LONG) {
        argv[0].number *= 2;  // by reference
        result->type = VANTREEL_VALUE_STRING;
        object.lastText = "doubled " + std::to_string(argv[0].number);
        result->text = object.lastText.c_str();
        return 0;
    }
    if (strcasecmp(method, "Fail") == 0) {
        SetError(error, errorSize, "The test object failed on purpose");
        return 1004;
    }
    SetError(error, errorSize, "Object doesn't support this property or method");
    return 438;
}

template <int Tag>
void* Create() {
    return new Object{Tag, {}};
}

void Destroy(void* object) {
    delete static_cast<Object*>(object);
}

void* CreateNothing() {
    return nullptr;
}

const VantreelClass kClasses[] = {
    {VANTREEL_PLUGIN_ABI, Create<0>, Destroy, Invoke},
    {VANTREEL_PLUGIN_ABI, Create<1>, Destroy, Invoke},
    {VANTREEL_PLUGIN_ABI, Create<2>, Destroy, Invoke},
    {VANTREEL_PLUGIN_ABI, Create<3>, Destroy, Invoke},
    {VANTREEL_PLUGIN_ABI, CreateNothing, Destroy, Invoke},
    {VANTREEL_PLUGIN_ABI + 98, Create<0>, Destroy, Invoke},
};

const char* const kClassIds[] = {
    "{7E1A0000-0000-4000-8000-000000000000}",  // context server
    "{7E1A0000-0000-4000-8000-000000000001}",  // Recorder1
    "{7E1A0000-0000-4000-8000-000000000002}",  // Recorder2
    "{7E1A0000-0000-4000-8000-000000000003}",  // Recorder3
    "{7E1A0000-0000-4000-8000-0000000000EE}",  // makes no object
    "{7E1A0000-0000-4000-8000-0000000000FF}",  // another interface version
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const VantreelClass* VantreelGetClass(
    const char* classId) {
    for (std::size_t i = 0; i < sizeof kClassIds / sizeof kClassIds[0]; ++i) {
        if (strcasecmp(classId, kClassIds[i]) == 0) {
            return &kClasses[i];
        }
    }
    return nullptr;
}
