#!/bin/sh
# Stands in for gs in the launcher tests: prints each argument it gets on a line of its own.
for arg; do printf "%s\n" "$arg"; done
