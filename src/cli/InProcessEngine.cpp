#include "cli/InProcessEngine.h"

#include <dlfcn.h>

InProcessEngine::InProcessEngine(const std::string& programDir) : programDir(programDir) {
    const std::string path = programDir + "folverin-engine.so";
    // Never closed: the converters it makes live until the program ends.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module) {
        newFileConverter = reinterpret_cast<NewFileConverter>(::dlsym(module, "folverinNewFileConverter"));
        buildSummary = reinterpret_cast<BuildSummary>(::dlsym(module, "folverinBuildSummary"));
    }
    if (!newFileConverter || !buildSummary)
        loadError =
            "cannot load the PDF engine " + path + (module ? std::string() : ": " + std::string(::dlerror()));
}

std::unique_ptr<JobConverter> InProcessEngine::fileConverter(const std::string& configPath) const {
    return std::unique_ptr<JobConverter>(newFileConverter(configPath, programDir));
}

SummaryReport InProcessEngine::summary(const std::string& pdfPath, const std::string& ownerPassword,
                                       const std::string& userPassword) const {
    SummaryReport report;
    buildSummary(pdfPath, ownerPassword, userPassword, report);
    return report;
}
