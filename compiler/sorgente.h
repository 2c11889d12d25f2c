// A source text as the readers see it: it may exist or not, it is read whole
// and handed over as bytes, and it is deleted when the reader says so. On disk
// it is a file of the run's folder; in memory (tests, tools, benchmarks) it is
// a string, so the whole compile also runs without a folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace scenario {

class testo_sorgente {
 public:
  virtual ~testo_sorgente() = default;
  virtual bool esiste() const = 0;
  // The whole text; throws (errore_file_system) when it cannot be read.
  virtual std::string leggi() = 0;
  // Deletes the text when it still exists.
  virtual void elimina() = 0;
};

class sorgente_su_disco final : public testo_sorgente {
 public:
  explicit sorgente_su_disco(std::filesystem::path file) : file_(std::move(file)) {}
  bool esiste() const override;
  std::string leggi() override;
  void elimina() override;

 private:
  std::filesystem::path file_;
};

class sorgente_in_memoria final : public testo_sorgente {
 public:
  sorgente_in_memoria() = default;  // a text that does not exist
  explicit sorgente_in_memoria(std::string testo) : testo_(std::move(testo)) {}
  bool esiste() const override { return testo_.has_value(); }
  std::string leggi() override;
  void elimina() override { testo_.reset(); }

 private:
  std::optional<std::string> testo_;
};

}  // namespace scenario
