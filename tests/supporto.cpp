#include "supporto.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "app/esecuzione.h"
#include "base/file_cartella.h"
#include "scenario/identita.h"
#include "scenario/sorgenti.h"

namespace prova {
namespace fs = std::filesystem;

cartella_temporanea::cartella_temporanea() {
  std::random_device caso;
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    fs::path candidato = fs::temp_directory_path() / ("scenario-prova-" + std::to_string(caso()));
    if (fs::create_directory(candidato)) {
      percorso_ = candidato;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

cartella_temporanea::~cartella_temporanea() {
  std::error_code ignorato;
  fs::permissions(percorso_, fs::perms::owner_all, fs::perm_options::add, ignorato);
  fs::remove_all(percorso_, ignorato);
}

std::string leggi(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> leggi_byte(const fs::path& file) {
  std::string s = leggi(file);
  return {s.begin(), s.end()};
}

void scrivi(const fs::path& file, const std::string& contenuto) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << contenuto;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::vector<std::string> elenco(const fs::path& cartella) {
  std::vector<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(cartella))
    nomi.push_back(voce.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

esito_processo esegui(const std::vector<std::string>& argomenti, const fs::path& cartella,
                      bool come_utente_nobody, uint64_t limite_byte_file) {
  // Output goes to temporary files, so neither pipe can fill and block the child.
  cartella_temporanea uscite;
  const fs::path file_uscita = uscite / "stdout";
  const fs::path file_errori = uscite / "stderr";
  pid_t figlio = fork();
  if (figlio < 0) throw std::runtime_error("fork failed");
  if (figlio == 0) {
    int nulla = open("/dev/null", O_RDONLY);
    int out = open(file_uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(file_errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(nulla, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(cartella.c_str()) != 0) _exit(126);
    if (come_utente_nobody && geteuid() == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(125);
    }
    if (limite_byte_file != 0) {
      // SIGXFSZ keeps its default action: the programs themselves must turn
      // the limit into a reported write fault.
      const rlimit limite{limite_byte_file, limite_byte_file};
      if (setrlimit(RLIMIT_FSIZE, &limite) != 0) _exit(124);
    }
    std::vector<char*> argv;
    for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int stato = 0;
  waitpid(figlio, &stato, 0);
  esito_processo esito;
  esito.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  esito.uscita = leggi(file_uscita);
  esito.errori = leggi(file_errori);
  return esito;
}

fs::path programma() { return SCENARIO_PROGRAMMA; }

std::optional<scenario::modello> compila_scenario_incorporato(const fs::path& cartella) {
  scenario::modello m;
  m.percorso = scenario::kPercorso;
  m.treno = scenario::kTreno;
  scenario::scrivi_testi(m, cartella);
  scenario::sorgente_su_disco linea(
      scenario::percorso_file(cartella, scenario::nome_file_dati_linea(m)));
  scenario::sorgente_su_disco treno(
      scenario::percorso_file(cartella, scenario::nome_file_dati_treno(m)));
  scenario::piattaforma_registrata p;
  if (!scenario::memorizza_percorso(m, 1, linea, treno, cartella, p).ha_celle) return std::nullopt;
  return m;
}

}  // namespace prova
