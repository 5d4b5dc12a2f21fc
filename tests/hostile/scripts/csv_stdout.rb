require "csv"
CSV($stdout) { |c| ARGV.each { |l| c << l.split } }
