#!/usr/bin/env bash
# Installs what is missing, builds, and decodes the built-in sample job.
cd "$(dirname "$0")"
source scripts/setup.sh

sample=build/sample/lantern-keeper.kprn
echo "Sample job: $sample"
build/bin/brelmont-cli info "$sample"
