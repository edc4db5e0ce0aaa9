#include "suite/context.h"

#include <algorithm>

#include "suite/files.h"
#include "textio/errors.h"
#include "textio/require.h"

namespace suite {

namespace {

template <typename File>
void Forget(std::vector<std::unique_ptr<File>>& files, const File& file) {
  auto it = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.get() == &file; });
  if (it != files.end()) files.erase(it);
}

}  // namespace

Context::Context(std::string_view program_name, Streams streams, Invocation invocation)
    : program_name_(program_name), streams_(streams), invocation_(std::move(invocation)), out_(streams.out) {}

Context::~Context() { AbandonAll(); }

textio::FreeReader& Context::reader() {
  if (!reader_) reader_.emplace(streams_.in);
  return *reader_;
}

void Context::Warn(std::string_view message) {
  streams_.err << program_name_ << ": " << message << '\n';
  streams_.err.flush();
}

void Context::NoteDataEnd(const textio::ReadResult& end, std::string_view source, int64_t count,
                          std::string_view counted) {
  if (end.status == textio::ReadStatus::kUnreadable) Warn(textio::DescribeDataEnd(end, source, count, counted));
}

std::filesystem::path Context::Resolve(const std::string& name) const {
  const std::filesystem::path path(name);
  if (invocation_.directory.empty() || path.is_absolute()) return path;
  return invocation_.directory / path;
}

InputFile* Context::TryOpenInput(const std::string& name) {
  auto file = std::make_unique<InputFile>(name, Resolve(name));
  if (!file->is_open()) return nullptr;
  inputs_.push_back(std::move(file));
  return inputs_.back().get();
}

InputFile& Context::OpenInput(const std::string& name) {
  InputFile* file = TryOpenInput(name);
  if (file == nullptr) throw textio::InputError(suite::OpenFailure(name));
  return *file;
}

OutputFile* Context::TryCreateOutput(const std::string& name) {
  auto file = std::make_unique<OutputFile>(name, Resolve(name));
  if (!file->Create()) return nullptr;
  outputs_.push_back(std::move(file));
  return outputs_.back().get();
}

OutputFile& Context::CreateOutput(const std::string& name) {
  OutputFile* file = TryCreateOutput(name);
  if (file == nullptr) throw textio::RuntimeError(suite::CreateFailure(name));
  return *file;
}

OutputFile& Context::OutputOnFirstLine(const std::string& name) {
  outputs_.push_back(std::make_unique<OutputFile>(name, Resolve(name)));
  return *outputs_.back();
}

void Context::Close(InputFile& file) { Forget(inputs_, file); }

void Context::Close(OutputFile& file) {
  try {
    file.Close();
  } catch (...) {
    Forget(outputs_, file);
    throw;
  }
  Forget(outputs_, file);
}

void Context::CloseAll() {
  inputs_.clear();
  std::exception_ptr first;
  for (auto& file : outputs_) {
    try {
      file->Close();
    } catch (...) {
      if (!first) first = std::current_exception();
      file->Abandon();
    }
  }
  outputs_.clear();
  if (first) std::rethrow_exception(first);
}

void Context::AbandonAll() noexcept {
  inputs_.clear();
  for (auto& file : outputs_) file->Abandon();
  outputs_.clear();
}

}  // namespace suite
