# Entry points; each installs what is missing first (Debian 12, as root or with sudo).
.PHONY: test run bench setup clean

test:
	scripts/test.sh

run:
	scripts/run.sh

bench:
	scripts/setup.sh
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	build/bench/bench/hoppel_bench

setup:
	scripts/setup.sh

clean:
	rm -rf build
