#include "models/common/ModelProgram.h"

#include "models/common/Text.h"

#include <exception>
#include <iostream>

namespace parvela::models {

namespace {

void RemoveStaleResults(const ModelProgram& program, const RunContext& context) {
    std::error_code ignored;
    std::filesystem::remove(context.File(program.okFlag), ignored);
    std::filesystem::remove(context.File(context.id + ".err"), ignored);
    for (const std::string& extension : program.resultExtensions)
        std::filesystem::remove(context.File(context.id + extension), ignored);
}

void WriteErrorFile(const ModelProgram& program, const RunContext& context,
                    const std::vector<std::string>& messages) {
    TextFile file;
    file.Add("* " + program.name + " stopped: the input has errors");
    file.Add("*");
    for (const std::string& message : messages)
        file.Add(message);
    file.Save(context.File(context.id + ".err"));
}

} // namespace

std::filesystem::path RunContext::Companion(const std::string& name,
                                            const std::string& extension) const {
    const std::filesystem::path exact = File(name + extension);
    std::error_code error;
    if (std::filesystem::exists(exact, error))
        return exact;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() == extension && Trim(path.stem().string()) == name &&
            entry.is_regular_file(error))
            return path;
    }
    return exact;
}

int RunModelProgram(const ModelProgram& program, int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        // A user who runs model programs of his own (ModelsPath) can tell them from these.
        std::cout << program.name << " " << program.version << ": Parvela's stand-in for the "
                  << program.modelKind << " " << program.name << ", not the real model\n";
        return ExitDone;
    }
    if (argc != 2) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "model") << " INPUTFILE\n";
        return ExitUsage;
    }
    const std::filesystem::path input = argv[1];
    RunContext context{input.stem().string(), std::filesystem::current_path()};
    try {
        RemoveStaleResults(program, context);
        Issues issues;
        InputFile file;
        try {
            file = InputFile::Read(input, issues);
        } catch (const FileError& error) {
            std::cerr << program.name << ": " << error.what() << "\n";
            WriteErrorFile(program, context, {error.what()});
            return ExitUnreadableInput;
        }
        try {
            if (issues.Empty())
                program.run(file, context, issues);
        } catch (const FileError& error) {
            issues.Add(error.what());
        }
        if (!issues.Empty()) {
            WriteErrorFile(program, context, issues.Messages());
            return ExitDone;
        }
        TouchFile(context.File(program.okFlag));
        return ExitDone;
    } catch (const std::exception& error) {
        std::cerr << program.name << ": " << error.what() << "\n";
        return ExitFailure;
    }
}

} // namespace parvela::models
