// The other side of the start-up benchmark: a process that connects with plain
// libmariadb, reads the product list with mysql_store_result, touches every field, and
// reports "walked" on the descriptor named by PRISLISTE_FIRST_PAINT_FD.
//
//   bench_rawwalk <port>
#include <mysql.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* const selectText = "SELECT * FROM product ORDER BY web,producttext";
    MYSQL* m = mysql_init(nullptr);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(m, "127.0.0.1", "prisliste", "Blomst24", "brisvald", unsigned(std::atoi(argv[1])), nullptr,
                            CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS)
        || mysql_real_query(m, selectText, unsigned(std::strlen(selectText))) != 0) {
        std::fprintf(stderr, "rawwalk: %s\n", mysql_error(m));
        return 1;
    }
    MYSQL_RES* result = mysql_store_result(m);
    const unsigned n = mysql_num_fields(result);
    unsigned long long touched = 0;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned i = 0; i < n; ++i)
            touched += lengths[i] + (row[i] ? static_cast<unsigned char>(row[i][0]) : 0);
    }
    const char* fd = std::getenv("PRISLISTE_FIRST_PAINT_FD");
    if (fd && write(std::atoi(fd), "walked\n", 7) != 7)
        return 3;
    std::fprintf(stderr, "%llu\n", touched);
    mysql_free_result(result);
    mysql_close(m);
    return 0;
}
