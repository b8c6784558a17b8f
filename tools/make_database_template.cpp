// Builds the empty game database from the schema: make_database_template SCHEMA.sql OUTPUT.db
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SCHEMA.sql OUTPUT.db\n", argv[0]);
    return 2;
  }
  std::ifstream schemaFile(argv[1]);
  if (!schemaFile) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream schema;
  schema << schemaFile.rdbuf();

  const std::string output = argv[2];
  const std::string partial = output + ".partial";
  std::filesystem::remove(partial);
  sqlite3* db = nullptr;
  if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK) {
    std::fprintf(stderr, "cannot create %s\n", partial.c_str());
    return 1;
  }
  char* error = nullptr;
  const std::string script = "PRAGMA page_size=4096; BEGIN; " + schema.str() + " COMMIT; VACUUM;";
  const int result = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
  if (result != SQLITE_OK) {
    std::fprintf(stderr, "schema failed: %s\n", error ? error : "unknown error");
    sqlite3_free(error);
    sqlite3_close(db);
    return 1;
  }
  sqlite3_close(db);
  std::filesystem::rename(partial, output);
  return 0;
}
