// Runs a fuzz target over the files of its corpus folders, for builds without libFuzzer: every seed and every
// input that once broke something is run again as a test.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadFile(const std::string& path, std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, n);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* dir = opendir(argv[i]);
        if (!dir) {
            fprintf(stderr, "cannot open corpus folder %s\n", argv[i]);
            return 1;
        }
        std::vector<std::string> names;
        while (struct dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        }
        closedir(dir);
        for (const std::string& name : names) {
            const std::string path = std::string(argv[i]) + "/" + name;
            struct stat info;
            if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
                continue;
            std::string bytes;
            if (!ReadFile(path, bytes)) {
                fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++runs;
        }
    }
    printf("%zu inputs replayed\n", runs);
    // A corpus that holds nothing tests nothing.
    return runs > 0 ? 0 : 1;
}
