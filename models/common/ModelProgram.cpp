#include "models/common/ModelProgram.h"

#include "models/common/Text.h"

#include <exception>
#include <iostream>

namespace parvela::models {

namespace {

void RemoveStaleResults(const ModelProgram& program, const RunContext& context) {
    std::error_code ignored;
    for (const std::string& name : {program.okFlag, context.id + ".err", context.id + ".sum"})
        std::filesystem::remove(context.File(name), ignored);
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

int RunModelProgram(const ModelProgram& program, int argc, char** argv) {
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
