#include "supporto.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
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

namespace {

// A child started by avvia, with the folder that takes its output.
struct processo_avviato {
  pid_t pid = -1;
  std::unique_ptr<cartella_temporanea> uscite;
};

processo_avviato avvia(const std::vector<std::string>& argomenti, const fs::path& cartella,
                       bool come_utente_nobody, uint64_t limite_byte_file,
                       unsigned secondi_massimi) {
  // Output goes to temporary files, so neither pipe can fill and block the child.
  processo_avviato p;
  p.uscite = std::make_unique<cartella_temporanea>();
  const fs::path file_uscita = *p.uscite / "stdout";
  const fs::path file_errori = *p.uscite / "stderr";
  // Everything the child needs is made before fork: the child of a process
  // with threads may only make plain system calls.
  std::vector<char*> argv;
  argv.reserve(argomenti.size() + 1);
  for (const auto& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  p.pid = fork();
  if (p.pid < 0) throw std::runtime_error("fork failed");
  if (p.pid == 0) {
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
    // The alarm outlives exec, and SIGALRM's default action ends the child.
    alarm(secondi_massimi);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return p;
}

esito_processo attendi(const processo_avviato& p) {
  int stato = 0;
  while (waitpid(p.pid, &stato, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  esito_processo esito;
  esito.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  esito.uscita = leggi(*p.uscite / "stdout");
  esito.errori = leggi(*p.uscite / "stderr");
  return esito;
}

}  // namespace

esito_processo esegui(const std::vector<std::string>& argomenti, const fs::path& cartella,
                      bool come_utente_nobody, uint64_t limite_byte_file,
                      unsigned secondi_massimi) {
  return attendi(avvia(argomenti, cartella, come_utente_nobody, limite_byte_file, secondi_massimi));
}

std::vector<esito_processo> esegui_insieme(const std::vector<std::vector<std::string>>& comandi,
                                           const fs::path& cartella) {
  std::vector<processo_avviato> avviati;
  avviati.reserve(comandi.size());
  for (const auto& c : comandi) {
    avviati.push_back(avvia(c, cartella, false, 0, kSecondiMassimiProcesso));
  }
  std::vector<esito_processo> esiti;
  esiti.reserve(avviati.size());
  for (const auto& p : avviati) esiti.push_back(attendi(p));
  return esiti;
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
