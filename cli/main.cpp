#include <cstdio>

int main(int argc, char** argv)
{
    fprintf(stderr, "usage: orvenna-cli COMMAND ...\n");
    return 2;
}
