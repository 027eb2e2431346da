#include "step_writer.h"

#include "step_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

namespace {

struct LoadedModule {
    StepModuleWrite* write = nullptr;
    std::string problem;
};

// A program run from the build tree takes the module built with it; an
// installed one, the module installed beside it.
std::string modulePath()
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string program(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::string built = ORVANEL_BUILD_TREE "/";
    if (program.compare(0, built.size(), built) == 0)
        return ORVANEL_STEP_MODULE_BUILT;
    return program.substr(0, program.rfind('/') + 1) + ORVANEL_STEP_MODULE_FROM_PROGRAM;
}

LoadedModule loadModule()
{
    LoadedModule loaded;
    // Kept for the program's whole run: never closed.
    void* module = dlopen(modulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module)
        loaded.write = reinterpret_cast<StepModuleWrite*>(dlsym(module, stepModuleWriteName));
    if (!loaded.write) {
        const char* why = dlerror();
        loaded.problem = why ? why : "entrée introuvable";
    }
    return loaded;
}

}  // namespace

StepResult writeStep(const HeightGrid& grid, const StepOptions& options, ByteSink& sink, StepCancel& cancel,
                     StepProgress& progress)
{
    static const LoadedModule module = loadModule();
    StepResult result;
    if (!module.write) {
        result.status = StepStatus::Failed;
        result.errorText = "le module STEP (OpenCASCADE) n'a pas pu être chargé : " + module.problem;
        return result;
    }
    module.write(&grid, &options, &sink, &cancel, &progress, &result);
    return result;
}
