def main(lines) = lines.each { |l| puts l.upcase }
main(ARGV) if __FILE__ == $0
