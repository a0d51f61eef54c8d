#include "testkit/ExportFile.h"

#include <exception>
#include <new>
#include <variant>

#include "testkit/AtomicFile.h"
#include "testkit/SessionExport.h"

namespace RorozErurEvo::ExportFile {

namespace {

// Thrown through the encoders when the disk refused a piece; the writer holds the reason.
struct DiskRefused {};

Outcome failed(std::string problem) { return {Outcome::State::failed, std::move(problem)}; }

} // namespace

Outcome write(const Job& job, const std::atomic<bool>& cancelled, const std::function<void(std::size_t)>& progress) {
    const Outcome gaveUp{Outcome::State::cancelled, {}};
    if (cancelled.load()) return gaveUp;
    AtomicFile::Writer file(job.target);
    if (file.error()) return failed(*file.error());
    try {
        SessionExport::Sink sink = [&file](std::string_view piece) {
            if (!file.append(piece)) throw DiskRefused{};
        };
        std::variant<SessionExport::JsonStream, SessionExport::CsvStream> stream =
            job.format == Format::json
                ? decltype(stream)(std::in_place_index<0>, sink, job.app, job.appVersion, job.exported)
                : decltype(stream)(std::in_place_index<1>, sink);
        for (std::size_t i = 0; i < job.count; ++i) {
            if (cancelled.load()) return gaveUp;
            Read read = job.read(i);
            if (!read.session) return failed(read.problem);
            std::visit([&](auto& s) { s.add(*read.session); }, stream);
            read.session.reset();
            if (progress) progress(i + 1);
        }
        if (auto* json = std::get_if<SessionExport::JsonStream>(&stream)) json->end();
    } catch (const DiskRefused&) {
        return failed(file.error().value_or("the disk refused it"));
    } catch (const std::bad_alloc&) {
        return failed("there is not enough memory");
    } catch (const std::exception& error) {
        return failed(error.what());
    }
    if (cancelled.load()) return gaveUp;
    if (auto error = file.commit()) return failed(*error);
    return {};
}

} // namespace RorozErurEvo::ExportFile
