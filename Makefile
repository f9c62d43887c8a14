# Entry points; each installs what is missing first (Debian 12, as root or with sudo).
.PHONY: test run web dist bench setup clean

test:
	scripts/test.sh

run:
	scripts/run.sh

web:
	scripts/web.sh

dist:
	scripts/dist.sh

bench:
	scripts/bench.sh

setup:
	scripts/setup.sh

clean:
	rm -rf build dist
