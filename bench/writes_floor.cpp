// The floor under a whole run of a program: a process that appends given numbers of bytes to
// eight files in the working folder, floor-1.txt to floor-8.txt, and does nothing else.
// scripts/time-programs runs it with the sizes of a run's eight reports, paired with that run.
//
// Usage: quorvane_writes_floor BYTES_1 ... BYTES_8
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const std::vector<char> text(std::size_t{1} << 16, 'x');
  for (int file = 1; file < argc; ++file) {
    unsigned long long left = std::strtoull(argv[file], nullptr, 10);
    const std::string name = "floor-" + std::to_string(file) + ".txt";
    std::FILE* out = std::fopen(name.c_str(), "ab");
    if (out == nullptr) {
      std::perror(name.c_str());
      return 1;
    }
    while (left > 0) {
      const std::size_t piece = left < text.size() ? static_cast<std::size_t>(left) : text.size();
      if (std::fwrite(text.data(), 1, piece, out) != piece) break;
      left -= piece;
    }
    if (std::fclose(out) != 0 || left > 0) {
      std::perror(name.c_str());
      return 1;
    }
  }
  return 0;
}
