$stdin.each_line { |l| puts l }
p $stdin.readlines
puts(ARGV.empty? ? $stdin.read : ARGV)
